# Forms 201A and 201B: the lists of tax invoices of sales (201A) and purchases (201B).

# Financial years before 2008: column 9 holds the total.
template VAT_RET_{form}_{size}_Monthly.xls
vary form 201A 201B
vary size 500 1000 5000 20000 40000
sheet Sheet1
cell A1 Form {form}: list of tax invoices
cell A4 Sr No
cell B4 Invoice No
cell C4 Invoice Date
cell D4 Name of Purchaser/Seller
cell E4 TIN
cell F4 Commodity
cell G4 Taxable Amount
cell H4 VAT
cell I4 Total
cell L4 Check: Taxable + VAT
list 5 {size}
each A =ROW()-{first-1}
each L =G{r}+H{r}
cell B{last+2} Total
cell G{last+2} =SUM(G{first}:G{last+1})
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})

# Financial years from 2008: column 9 additional tax, column 10 the total.
template VAT_RET_{form}_{size}_Monthly_New.xls
vary form 201A 201B
vary size 500 1000 5000 20000 40000
sheet Sheet1
cell A1 Form {form}: list of tax invoices
cell A4 Sr No
cell B4 Invoice No
cell C4 Invoice Date
cell D4 Name of Purchaser/Seller
cell E4 TIN
cell F4 Commodity
cell G4 Taxable Amount
cell H4 VAT
cell I4 Additional Tax
cell J4 Total
cell L4 Check: Taxable + VAT + Additional Tax
list 5 {size}
each A =ROW()-{first-1}
each L =G{r}+H{r}+I{r}
cell B{last+2} Total
cell G{last+2} =SUM(G{first}:G{last+1})
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell J{last+2} =SUM(J{first}:J{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})

# The macro-driven layout: header cells, five prepared rows; longer lists get rows inserted
# at the blank row under them (the trigger row 13).
template VAT_RET_{form}_CSV_M.xls
vary form 201A 201B
sheet FORM{form}
cell A1 Form {form}: list of tax invoices
cell B2 TIN
cell B3 Period
cell B4 Year
cell A7 Sr No
cell B7 Invoice No
cell C7 Invoice Date
cell D7 Name of Purchaser/Seller
cell E7 TIN
cell F7 Commodity
cell G7 Taxable Amount
cell H7 VAT
cell I7 Additional Tax
cell J7 Total
cell L7 Check: Taxable + VAT + Additional Tax
list 8 5
each A =ROW()-{first-1}
each L =G{r}+H{r}+I{r}
cell B{last+2} Total
cell G{last+2} =SUM(G{first}:G{last+1})
cell H{last+2} =SUM(H{first}:H{last+1})
cell I{last+2} =SUM(I{first}:I{last+1})
cell J{last+2} =SUM(J{first}:J{last+1})
cell L{last+2} =SUM(L{first}:L{last+1})
